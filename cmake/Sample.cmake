# The sample movie and its editor text for `make run`, generated into the build folder (never
# committed). Skipped when ffmpeg or espeak-ng is missing.
find_program(MQ_FFMPEG ffmpeg)
find_program(MQ_ESPEAK espeak-ng)
if(MQ_FFMPEG AND MQ_ESPEAK)
    set(MQ_SAMPLE_DIR ${PROJECT_BINARY_DIR}/sample)
    add_custom_command(
        OUTPUT ${MQ_SAMPLE_DIR}/Sample.mp4 ${MQ_SAMPLE_DIR}/Sample.txt
        COMMAND ${PROJECT_SOURCE_DIR}/scripts/make-sample.sh ${MQ_SAMPLE_DIR}
        DEPENDS ${PROJECT_SOURCE_DIR}/scripts/make-sample.sh
        COMMENT "Generating the sample movie"
        VERBATIM)
    # The project that `make run` opens: the sample text with the movie.
    add_custom_command(
        OUTPUT ${MQ_SAMPLE_DIR}/Sample.mqp
        COMMAND marquee convert ${MQ_SAMPLE_DIR}/Sample.txt ${MQ_SAMPLE_DIR}/Sample.mqp
                --fps 25 --movie ${MQ_SAMPLE_DIR}/Sample.mp4
        DEPENDS marquee ${MQ_SAMPLE_DIR}/Sample.mp4 ${MQ_SAMPLE_DIR}/Sample.txt
        COMMENT "Making the sample project"
        VERBATIM)
    add_custom_target(sample ALL DEPENDS ${MQ_SAMPLE_DIR}/Sample.mqp)
else()
    message(STATUS "sample movie skipped: ffmpeg or espeak-ng not found")
endif()
