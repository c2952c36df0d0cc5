#pragma once

#include "dataaccess/ConnectionEntries.h"
#include "ui/EntryStore.h"
#include "ui/MainWindow.h"
#include "ui/PasswordStore.h"

#include <functional>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace dravena {

// The connection window: the Paradox folder and the Oracle sign-on, tested on demand and
// remembered between runs. It stays loaded for the whole run: its entries are the only copy of
// the connection settings.
class Form1 final : public MainWindow, public ConnectionEntries {
public:
    using TablesWindowFactory = std::function<std::unique_ptr<TablesWindow>()>;

    explicit Form1(TablesWindowFactory makeTablesWindow);
    ~Form1() override;

    // ConnectionEntries
    QString paradoxFolder() const override;
    QString oracleSid() const override;
    QString oracleUser() const override;
    QString oraclePassword() const override;

    // Handlers
    void Form_Load();
    void PushButton1_Click(); // Oracle "Test Connection"
    void PushButton2_Click(); // "Next >"
    void PushButton3_Click(); // Paradox "Test Connection"
    void PushButton4_Click(); // help about the SID
    void PushButton5_Click(); // pick the Paradox folder
    void PushButton6_Click(); // the sample tables
    void Text1_Change();
    void Text2_Change();
    void Text3_Change();
    void Text1_GotFocus();
    void Text2_GotFocus();
    void Text3_GotFocus();
    void Text4_GotFocus();
    // Pointer handlers: the arrow over the window, its frames and entry fields, the hand over its
    // push buttons.
    void Form_MouseMove() { pointerMoved(PointerDefault); }
    void Frame1_MouseMove() { pointerMoved(PointerDefault); }
    void Frame2_MouseMove() { pointerMoved(PointerDefault); }
    void Text1_MouseMove() { pointerMoved(PointerDefault); }
    void Text2_MouseMove() { pointerMoved(PointerDefault); }
    void Text3_MouseMove() { pointerMoved(PointerDefault); }
    void Text4_MouseMove() { pointerMoved(PointerDefault); }
    void PushButton1_MouseMove() { pointerMoved(PointerCustom); }
    void PushButton2_MouseMove() { pointerMoved(PointerCustom); }
    void PushButton3_MouseMove() { pointerMoved(PointerCustom); }
    void PushButton4_MouseMove() { pointerMoved(PointerCustom); }
    void PushButton5_MouseMove() { pointerMoved(PointerCustom); }
    void PushButton6_MouseMove() { pointerMoved(PointerCustom); }

    bool tablesWindowLoaded() const { return tables_ != nullptr; }

private:
    void buildLayout();
    void connectHandlers();
    // The tables window, loaded (and its load step run) on first use.
    TablesWindow& loadedTablesWindow();
    // Runs the tables window's load step, loading the window first when needed.
    void reloadTablesWindow();
    // Remembers the password once typing has ended (not on every key), and tells once in the
    // window when it cannot go to the keyring.
    void storePassword();
    void tellWherePasswordIsKept();

    TablesWindowFactory makeTablesWindow_;
    EntryStore entryStore_;
    PasswordStore passwords_{entryStore_};
    std::unique_ptr<TablesWindow> tables_;

    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QPushButton* PushButton1 = nullptr;
    QPushButton* PushButton2 = nullptr;
    QPushButton* PushButton3 = nullptr;
    QPushButton* PushButton4 = nullptr;
    QPushButton* PushButton5 = nullptr;
    QPushButton* PushButton6 = nullptr;
    QLabel* KeyringNotice = nullptr;
};

} // namespace dravena
