#pragma once
// What every window of the program shares: its fixed client size, the
// designed look (Tahoma, gray), and sync(), which copies the logic's view
// state onto the controls after every tick and every handler.

#include <QWidget>

class QLabel;
#include <functional>

namespace blokpost {

class WindowHost;
struct ProgramState;

class Window : public QWidget {
public:
    enum class Frame { Borderless, FixedDialog };
    Window(WindowHost& host, const QString& caption, int clientWidth, int clientHeight, Frame frame);

    // Copies what the logic changed onto the controls.
    virtual void sync() {}
    // Makes the window visible without blocking the others.
    void showWindow();
    // The part of the window that a window opened from it edits and should
    // not open over, in client coordinates.
    virtual QRect workArea() const { return rect(); }
    // The controls the operator must reach, which no small window may cover,
    // in the designed content's coordinates.
    virtual QList<QRect> mustReachAreas() const { return {}; }
    // Scrolls a cut-down window's content until `child` is in sight.
    void scrollTo(QWidget& child);
    // Scrolls until `child` is in sight under none of `covering` (desktop
    // coordinates), as near to that as the content allows.
    void scrollClearOf(QWidget& child, const QList<QRect>& covering);
    // The client size the window was designed with.
    QSize designedSize() const { return designed_; }
    // Gives the window `client` as its size: smaller than designed, its content
    // scrolls; the designed size shows all of it again.
    void fitInto(const QSize& client);

protected:
    ProgramState& state();
    // Runs an operator's handler, then refreshes every window. A failed file
    // operation stops the handler and is reported; the result says whether it ran through.
    bool handle(const std::function<void()>& handler);

    WindowHost& host_;

private:
    // Moves the designed content into a scroll area filling the window; once.
    void scrollContent();

    QSize designed_;
    QWidget* scrolledContent_ = nullptr;
};

// Designed fonts: Tahoma at a pixel size, bold where the windows use bold.
QFont designedFont(int pixelSize, bool bold);
void setBackground(QWidget* widget, const QColor& colour);
// A caption at a designed place, sized to its text.
QLabel* addCaption(QWidget* parent, const QString& text, int x, int y, const QFont& font,
                   const QColor& colour = Qt::black);
// A decorative photograph from the program's resources (":/photos/..."), scaled to its place.
QLabel* addPhotograph(QWidget* parent, const QString& resource, const QRect& place);

}  // namespace blokpost
