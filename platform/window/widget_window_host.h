#pragma once

#include <QWidget>
#include <optional>
#include <utility>
#include <vector>

#include "platform/toolkit_export.h"
#include "platform/window/window_host.h"

class QScrollBar;

namespace pm32::platform {

class ClientArea;

// A window host for Qt Widgets programs: a client area and two scroll bars of
// its own. A bar shows exactly when its range is not 0..0 and then takes its
// share of the widget from the client area.
class PM32_TOOLKIT_API WidgetWindowHost : public QWidget, public WindowHost {
    Q_OBJECT

  public:
    explicit WidgetWindowHost(QWidget* parent = nullptr);
    ~WidgetWindowHost() override;

    HWND Handle() const override { return handle_; }
    void SetClient(WindowClient* client) override;
    QSize ClientSize() const override;
    QSize WindowSize() const override { return size(); }
    void SetWindowSize(QSize size) override;
    void SetFrame(WindowFrame frame) override;
    ScrollRange GetScrollRange(ScrollBar bar) const override;
    void SetScrollRange(ScrollBar bar, ScrollRange range, bool redraw) override;
    int GetScrollPos(ScrollBar bar) const override;
    void SetScrollPos(ScrollBar bar, int position, bool redraw) override;
    QRect ScrollBarScreenRect(ScrollBar bar) const override;
    void Invalidate() override;
    void ScrollWindow(int dx, int dy) override;
    void UpdateWindow() override;
    void SetCursor(CursorShape shape) override;
    void SetCursor(const QImage& image, QPoint hotSpot) override;
    bool CursorOverClient() const override;
    void SendSetCursor() override { chooseCursor(); }
    void ClipCursor(const QRect* screenRect) override;
    void SetCapture() override;
    void ReleaseCapture() override;
    bool HasCapture() const override;
    unsigned RealizePalette(HPALETTE palette, bool background) override;
    void InvertFrame(const QRect& clientRect, int width) override;
    bool DrawOnClient(const std::function<void(QPaintDevice&)>& draw) override;

    QWidget* clientArea() const;
    QScrollBar* scrollBar(ScrollBar bar) const;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private slots:
    void scrollHorizontally(int action);
    void scrollVertically(int action);
    void endHorizontalScroll();
    void endVerticalScroll();

  private:
    friend class ClientArea;

    void forwardScroll(ScrollBar which, int action);
    void relayout();
    void chooseCursor();
    void paintClient(QPainter& painter, const QRegion& region);

    HWND handle_;
    WindowClient* client_ = nullptr;
    ClientArea* area_;
    QScrollBar* horizontal_;
    QScrollBar* vertical_;
    WindowFrame frame_;
    QSize clientSize_;
    std::optional<QRect> clip_;
    // Inverted frames on top of the client's pixels until the next invalidation.
    std::vector<std::pair<QRect, int>> frames_;
    // What was drawn on the client area from outside the paint cycle, shown
    // over the client's pixels until the next invalidation.
    QImage drawn_;
};

}  // namespace pm32::platform
