#pragma once
// The communication log, live (LogWindow, opened by LogButton, not modal):
// every frame and event of this run as the log file has it, all of them or
// only what went wrong, with a pause that holds the view still while lines go
// on being kept, and "Save log..." to copy this run's file anywhere.

#include <QWidget>
#include <cstdint>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class SessionLog;
class UserInterface;

class LogWindow : public QWidget {
    Q_OBJECT
  public:
    static inline const QString kCaption = QStringLiteral("COMMUNICATION LOG");

    LogWindow(SessionLog& log, UserInterface& ui, QWidget* parent = nullptr);

    // Shows what came since the last look (the window does this a few times a second).
    void catchUp();
    void saveLog();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void lineAdded();
    void rebuild();
    void showFileState();

    SessionLog& log_;
    UserInterface& ui_;
    QPlainTextEdit* text_ = nullptr;
    QCheckBox* errorsOnly_ = nullptr;
    QCheckBox* pause_ = nullptr;
    QPushButton* save_ = nullptr;
    QLabel* file_ = nullptr;
    QTimer* catchUpTimer_ = nullptr;
    std::uint64_t shownUpTo_ = 0; // line number after the last one looked at
};
