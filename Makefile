# Entry points for newcomers and CI. Every target installs missing packages first.
BUILD ?= build
JOBS ?= 2
WERROR := $(if $(CI),ON,OFF)
CMAKE_FLAGS ?=
SAN_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 20
# A test that hangs fails after this many seconds instead of holding up the whole run.
TEST_TIMEOUT ?= 300

.PHONY: all deps configure build run test test-sanitize bench fuzz fuzz-smoke format format-check screenshot clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DMARQUEE_WERROR=$(WERROR) $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	scripts/run-editor.sh $(BUILD)

test: build
	ctest --test-dir $(BUILD) --output-on-failure --timeout $(TEST_TIMEOUT) -j$(JOBS)

test-sanitize: deps
	cmake -S . -B $(SAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMARQUEE_SANITIZE=ON \
		-DMARQUEE_BENCH=OFF -DMARQUEE_WERROR=$(WERROR)
	cmake --build $(SAN_BUILD) -j$(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --test-dir $(SAN_BUILD) --output-on-failure --timeout $(TEST_TIMEOUT) -j$(JOBS)

bench: build
	scripts/run-benchmarks.sh $(BUILD)

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DMARQUEE_FUZZ=ON \
		-DMARQUEE_TESTS=OFF -DMARQUEE_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j$(JOBS)

fuzz-smoke: fuzz
	scripts/fuzz-smoke.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

screenshot: build
	scripts/screenshot.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD)
