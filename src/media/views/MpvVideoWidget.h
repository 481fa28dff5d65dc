#pragma once

#include <QOpenGLWidget>

struct mpv_render_context;
class MpvPlayer;

// Draws the player's video through mpv's render API. mpv's update callback only schedules a
// repaint on the GUI thread; the render context is freed before the player's core goes.
class MpvVideoWidget : public QOpenGLWidget {
    Q_OBJECT
public:
    MpvVideoWidget(MpvPlayer* player, QWidget* parent = nullptr);
    ~MpvVideoWidget() override;

    // Frees the render context; the widget draws black afterwards.
    void releaseRenderContext();

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    MpvPlayer* player_;
    mpv_render_context* context_ = nullptr;
};
