#pragma once
#include "core/PageKeys.h"

#include <QDialog>
#include <QPixmap>

struct ProgramPaths;
class QTextBrowser;
class SkinButton;

// The program information window: the page program_info.htm from the program
// folder over the window's own background, and an OK button. Escape closes it.
// The page's key list shows the keys in force.
class Frm_Info : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kWidth = 350;
    static constexpr int kHeight = 230;

    // closeTip: the close button's tip, in the program's language.
    explicit Frm_Info(const ProgramPaths &paths, QWidget *parent = nullptr, const QString &closeTip = QString(),
                      const PageKeys::KeyMap &keys = PageKeys::KeyMap());

    // `html` with the key cell of each row marked id="key-<action>" showing that
    // action's keys in `keys`.
    static QString withKeys(QString html, const PageKeys::KeyMap &keys);

    void cmd_close_MouseDown();
    void cmd_close_MouseUp();

    QTextBrowser *WebBrowser1 = nullptr;
    SkinButton *cmd_close = nullptr;

protected:
    void paintEvent(QPaintEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void Form_Load();

    QString m_skin;
    QString m_page;
    QPixmap m_background;
    PageKeys::KeyMap m_keys;
};
