#include "media/views/MpvVideoWidget.h"

#include "media/views/MpvPlayer.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <mpv/client.h>
#include <mpv/render_gl.h>

#include <QtGlobal>

namespace {

void* procAddress(void*, const char* name) {
    QOpenGLContext* context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void*>(context->getProcAddress(name)) : nullptr;
}

} // namespace

MpvVideoWidget::MpvVideoWidget(MpvPlayer* player, QWidget* parent)
    : QOpenGLWidget(parent), player_(player) {
    connect(player_, &MpvPlayer::aboutToDestroy, this, &MpvVideoWidget::releaseRenderContext);
}

MpvVideoWidget::~MpvVideoWidget() {
    releaseRenderContext();
}

void MpvVideoWidget::releaseRenderContext() {
    if (!context_) {
        return;
    }
    makeCurrent();
    mpv_render_context_set_update_callback(context_, nullptr, nullptr);
    mpv_render_context_free(context_);
    context_ = nullptr;
    doneCurrent();
}

void MpvVideoWidget::initializeGL() {
    if (!player_ || !player_->handle() || context_) {
        return;
    }
    mpv_opengl_init_params glInit{procAddress, nullptr};
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL)},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &glInit},
        {MPV_RENDER_PARAM_INVALID, nullptr}};
    if (const int error = mpv_render_context_create(&context_, player_->handle(), params);
        error < 0) {
        qWarning("initializeGL DBG: mpv render context failed: %s", mpv_error_string(error));
        context_ = nullptr;
        return;
    }
    mpv_render_context_set_update_callback(
        context_,
        [](void* widget) {
            // From mpv's render thread: only ask for a repaint on the GUI thread.
            QMetaObject::invokeMethod(static_cast<MpvVideoWidget*>(widget), "update",
                                      Qt::QueuedConnection);
        },
        this);
}

void MpvVideoWidget::paintGL() {
    if (!context_) {
        context()->functions()->glClearColor(0, 0, 0, 1);
        context()->functions()->glClear(GL_COLOR_BUFFER_BIT);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    mpv_opengl_fbo fbo{static_cast<int>(defaultFramebufferObject()),
                       static_cast<int>(width() * ratio), static_cast<int>(height() * ratio), 0};
    int flipY = 1;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
                                 {MPV_RENDER_PARAM_FLIP_Y, &flipY},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_render(context_, params);
}
