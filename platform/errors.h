#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <string>

// Errors carry their message text; the standard error box shows it.
class EError : public std::exception
{
public:
    explicit EError(QString message) : msg(std::move(message)), utf8(msg.toStdString()) {}
    const QString &message() const { return msg; }
    const char *what() const noexcept override { return utf8.c_str(); }

private:
    QString msg;
    std::string utf8;
};

// Socket operation failures ("Send - Socket Not Connected", ...).
class ESockException : public EError
{
public:
    using EError::EError;
};

// Download failures.
class EHttpException : public EError
{
public:
    using EError::EError;
};

// A number or colour text that does not read ("'X' is not a valid integer value").
class EConvertError : public EError
{
public:
    using EError::EError;
};

namespace errorbox {

// The program's title: caption of every error box.
QString title();

// Shows the standard error box: critical icon, the program title as caption, the text with a
// full stop added when it does not already end in one. Modal to the user, but it returns at once:
// the queues and timers go on while it is open. A box with the same text that is still open is
// not shown a second time.
void show(const QString &message);

// Closes every error box still open (the program is ending).
void closeAll();

// The text as the box shows it.
QString boxText(const QString &message);

// How the box reaches the screen. The windows' library supplies it (errorbox::useMessageBoxes in
// widgets/errorboxes.h), so this one needs no widgets; without it, or when `show` returns false
// (no screen), the text goes to standard error.
struct Presenter
{
    std::function<bool(const QString &text)> show;
    std::function<void()> closeAll;
};
void setPresenter(Presenter presenter);

// Tests (and the QUILLET_ERRORBOX_LOG switch) replace the modal box by a recorder.
using Hook = std::function<void(const QString &text)>;
void setHook(Hook hook);

} // namespace errorbox

// Runs one event handler; an exception that escapes it ends the handler and shows the box.
// Exceptions never cross the event loop.
template <typename F> void guard(F &&handler)
{
    try {
        handler();
    } catch (const EError &e) {
        errorbox::show(e.message());
    } catch (const std::exception &e) {
        errorbox::show(QString::fromLocal8Bit(e.what()));
    }
}
