#pragma once
// TCommandLineBar: the command panel shown over the status bar, with the
// Command combo box whose list is the command history. Enter runs the text
// and leaves, Escape only leaves (when the list is not dropped down).

#include <QStringList>
#include <QWidget>

#include <functional>

class QComboBox;

namespace kestrel {

class TCommandLineBar : public QWidget {
    Q_OBJECT
public:
    explicit TCommandLineBar(QWidget *parent = nullptr);

    QComboBox *Command() const { return command; }
    // Empties the text and gives the combo box the focus.
    void Start(const QStringList &history);

    // typed: the text was not picked from the list unchanged.
    std::function<void(const QString &text, bool typed)> OnRun;
    std::function<void()> OnLeave;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QComboBox *command;
    bool picked = false;
};

} // namespace kestrel
