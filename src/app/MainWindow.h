#pragma once

#include <QCursor>
#include <QWidget>

#include <optional>

namespace dravena {

// Pointer values of a main window.
constexpr int PointerDefault = 0;
constexpr int PointerBusy = 11;
constexpr int PointerCustom = 99;

// Converts layout units of the window designs (twips) to pixels.
constexpr int twips(int value) {
    return value / 15;
}

// A main window: owns its pointer value and ends the process when the user closes it.
class MainWindow : public QWidget {
public:
    explicit MainWindow(QWidget* parent = nullptr);

    int mousePointer() const { return pointer_; }
    // Applies the pointer of the value to the window and all its children.
    void setMousePointer(int value);
    // The custom pointer picture shown for value 99.
    void setCustomPointer(const QCursor& cursor);
    // Places the window in the middle of its screen.
    void centreOnScreen();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    int pointer_ = PointerDefault;
    std::optional<QCursor> customPointer_;
};

} // namespace dravena
