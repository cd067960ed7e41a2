#pragma once

#include <QPointer>
#include <QWidget>

class QPushButton;
class QMouseEvent;

// A dimmed layer over the whole window with a centred panel: the program's sheets and
// confirmations. They stay inside the popover, so they never fight a window manager over focus.
class Overlay : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Overlay)
public:
    // Covers the top-level window of `inside` (a popover's content, not its frame) and shows
    // `panel` centred on it; takes ownership. The panel keeps the size its content asks for.
    Overlay(QWidget* inside, QWidget* panel);

    // Whether a sheet or confirmation is open in the given window (the popover stays open then).
    static bool isOpenIn(const QWidget* window);

    void dismiss();

signals:
    void dismissed();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void placePanel();

    QWidget* m_panel = nullptr;
    // What had the focus when the overlay opened, given it back when it closes.
    QPointer<QWidget> m_returnFocus;
    bool m_dismissed = false;
};

// "Title" / "message" with a destructive action and "Cancel".
class ConfirmationDialog final : public Overlay {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ConfirmationDialog)
public:
    ConfirmationDialog(QWidget* inside, const QString& title, const QString& message,
                       const QString& destructiveAction);

    // A task name as a title quotes it: isolated, and short enough to stay on one line of the
    // title, so the title wraps before the quoted name and never inside it.
    static QString titleName(const QString& name);

    QPushButton* destructiveButton() const { return m_destructive; }
    QPushButton* cancelButton() const { return m_cancel; }

signals:
    void confirmed();

private:
    static QWidget* buildPanel(const QString& title, const QString& message,
                               const QString& destructiveAction);

    QPushButton* m_destructive = nullptr;
    QPushButton* m_cancel = nullptr;
};
