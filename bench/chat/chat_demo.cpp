// Shows two chat panes side by side, text sizes 8 and 14, with a typical evening's lines; used to
// look at the pane under Xvfb.
#include "client/chatpane.h"
#include "protocol/colortext.h"
#include "widgets/chatviewer.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget top;
    auto *row = new QHBoxLayout(&top);
    for (int size : {8, 14}) {
        auto *col = new QVBoxLayout;
        col->addWidget(new QLabel(QStringLiteral("Text size %1").arg(size)));
        auto *pane = new ChatPane;
        pane->setFixedSize(248, 311);
        pane->settextsize(size, true);
        col->addWidget(pane);
        row->addLayout(col);
        const int sys = 0x008AAAAC;
        pane->addlinetochat(QStringLiteral("0+Loading Multi-player Game.. Please Wait."), sys);
        pane->addlinetochat(QStringLiteral("0+You are Connected."), sys);
        pane->addlinetochat(QStringLiteral("0+Ann is Connected."), sys);
        pane->addlinetochat(QStringLiteral("1+Ann chats: hi all :)#10 ready to draw?"), colortext::clRed);
        pane->addlinetochat(QStringLiteral("2+Bob chats: sure :)#11:)#27 see www.example.com for the rules"),
                            colortext::clNavy);
        pane->addlinetochat(QStringLiteral("1+Ann waves :)#12"), colortext::clRed);
        pane->addlinetochat(QStringLiteral("0+Bob has a different version of the game then you."), 0xFF0000);
        pane->addlinetochat(QStringLiteral("2+Bob chats: <b>not bold</b> :)#99 :)#17:)#25"),
                            colortext::clNavy);
        pane->addlinetochat(QStringLiteral("0+Ann: <Chatter Sound> Applause"), 0xFF0000);
        pane->addlinetochat(QStringLiteral("12+Spy chats: I only watch :)#23"), colortext::clPurple);
    }
    top.move(0, 0);
    top.show();
    return app.exec();
}
