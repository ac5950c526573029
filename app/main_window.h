#pragma once
// The main window: the top row (port and speed, CONNECT/DISCONNECT with its
// indicator, TERMINAL, the last status, HELP, CLOSE), the scale's
// identification line and the four pages. It hosts the pages and the
// secondary windows; the one scale link belongs to the application.

#include "gui/page_context.h"
#include "app/saved_state.h"
#include "app/session_log.h"
#include "link/serial_channel.h"

#include <QMainWindow>
#include <QString>

class ScaleLink;
class UserInterface;
class BackupTools;
class DemoScaleTools;
class ConnectionIndicator;
class PluPage;
class SettingsPage;
class ReportsPage;
class SystemPage;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class LogWindow;
class PortSelector;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

class TForm1 : public QMainWindow {
    Q_OBJECT
  public:
    static inline const QString kCaption = QStringLiteral("ZEB TALLIVOS UTILITY MXV1.62");

    TForm1(ScaleLink& link, UserInterface& ui, QWidget* parent = nullptr);
    // Keeps its saved state in the given file instead of the program's own.
    TForm1(ScaleLink& link, UserInterface& ui, const QString& stateFilePath, QWidget* parent = nullptr);
    ~TForm1() override;

    // "STATUS:" and two hex digits, from every command's reply.
    void showStatusText(const QString& text);
    // The "SYSTEM" tab follows the scale's calibration mode.
    void setSystemTabVisible(bool visible);

    const QString& stateFilePath() const { return stateFilePath_; }
    // The controls the saved state file keeps, by component number.
    static const SavedControls& savedControls();

    TForm2* progressWindow() const { return progressWindow_; }
    TForm3* terminalWindow() const { return terminalWindow_; }
    TForm4* logoWindow() const { return logoWindow_; }
    TForm5* helpWindow() const { return helpWindow_; }
    LogWindow* logWindow() const { return logWindow_; }

    // This run's communication log, watching the link from the window's creation.
    SessionLog& sessionLog() { return sessionLog_; }

    // Where the demo scale (DEMO SCALE in the port selector) keeps its memory
    // between runs; without one it keeps it for this run only.
    void setDemoScaleMemoryFile(const QString& path);

  signals:
    // The window was closed and its state saved: the program ends.
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private slots:
    void Button11Click();
    void Button16Click();
    void Button14Click();
    void Button15Click();
    void Button10Click();
    void FindScaleClick();
    void LogButtonClick();

  private:
    void buildTopRow(QWidget* central);
    void buildPages(QWidget* central);
    // A flat button on the tool strip under the top row.
    QToolButton* addTool(const QString& objectName, const QString& caption, const QString& hint);
    void connectControls();
    void FormCreate();
    void createSecondaryWindows();
    void addBackupTools();
    void addDemoScaleTools();
    bool demoScaleChosen() const;
    void connectToScale();
    void disconnectFromScale();
    PortId selectedPort() const;
    std::vector<std::uint32_t> listedSpeeds() const;
    PageContext pageContext();

    ScaleLink& link_;
    UserInterface& ui_;
    QString stateFilePath_;
    RememberedText rememberedText_;
    bool centred_ = false;

    PortSelector* portSelector_ = nullptr;     // ComboBox2
    QComboBox* speedSelector_ = nullptr;       // ComboBox1
    QLineEdit* addressBox_ = nullptr;          // Edit5
    QPushButton* connectButton_ = nullptr;     // Button11
    ConnectionIndicator* indicator_ = nullptr; // Shape1
    QPushButton* findScaleButton_ = nullptr;   // FindScaleButton
    QPushButton* terminalButton_ = nullptr;    // Button16
    QLabel* statusText_ = nullptr;             // Label4
    QPushButton* helpButton_ = nullptr;        // Button15
    QPushButton* closeButton_ = nullptr;       // Button10
    QLabel* identification_ = nullptr;         // StaticText1
    QWidget* toolStrip_ = nullptr;             // the program's own tools, left of StaticText1
    QToolButton* logButton_ = nullptr;         // LogButton, on the tool strip
    QTabWidget* pages_ = nullptr;              // PageControl1

    PluPage* pluPage_ = nullptr;
    SettingsPage* settingsPage_ = nullptr;
    ReportsPage* reportsPage_ = nullptr;
    SystemPage* systemPage_ = nullptr;

    TForm2* progressWindow_ = nullptr;
    TForm3* terminalWindow_ = nullptr;
    TForm4* logoWindow_ = nullptr;
    TForm5* helpWindow_ = nullptr;
    LogWindow* logWindow_ = nullptr;

    // This run's communication log: the link's observer while the window lives.
    SessionLog sessionLog_;
    BackupTools* backupTools_ = nullptr;
    DemoScaleTools* demoScale_ = nullptr; // DEMO SCALE, and PRACTICE FAULTS while connected to it
};
