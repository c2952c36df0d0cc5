#pragma once

#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>

namespace dravena::testing {

// A private X server (Xvfb) for driving the real program with real pointer clicks and keys
// (xdotool) and taking screenshots of its windows (ImageMagick's import).
class X11Display {
public:
    // The tools this needs that cannot be found; empty when all are there.
    static QStringList missingTools();

    // Starts Xvfb on the first free display number; check started().
    X11Display();
    ~X11Display();
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    bool started() const { return !name_.isEmpty(); }
    // ":N"
    const QString& name() const { return name_; }
    // The environment for a program shown on this display: DISPLAY set, no offscreen platform.
    QProcessEnvironment environment() const;

    // Runs xdotool with the arguments; its standard output, trimmed ("" when it failed).
    QString xdotool(const QStringList& arguments) const;
    // The visible top-level window whose title is exactly the text, or "" when there is none.
    QString windowTitled(const QString& title) const;
    // Moves the pointer over the window's point and clicks the left button there.
    void click(const QString& window, int x, int y) const;
    // Presses keys ("Down", "ctrl+a", "Return") on the window that has the keyboard focus.
    void key(const QString& keys) const;
    void type(const QString& text) const;
    // Saves a picture of the window as a PNG file; false when that failed.
    bool screenshot(const QString& window, const QString& path) const;

private:
    QString run(const QString& program, const QStringList& arguments) const;

    QProcess server_;
    QString name_;
};

// Calls the check every tenth of a second until it is true; false when the time runs out.
bool waitUntil(const std::function<bool()>& check, int milliseconds = 20000);

} // namespace dravena::testing
