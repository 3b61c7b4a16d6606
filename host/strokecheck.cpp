#include "host/strokecheck.h"

#include "platform/errors.h"
#include "protocol/colortext.h"
#include "protocol/commands.h"
#include "protocol/fields.h"
#include "protocol/strokemessage.h"

namespace strokecheck {

bool reads(const QString &word, const QString &payload)
{
    try {
        FieldReader f(payload);
        f.nextInt();
        colortext::fromText(f.next());
        f.nextInt();
        if (word == cmd::moveit) {
            f.nextInt();
            f.restInt();
            return true;
        }
        StrokePoints walk(f);
        QPoint p;
        while (walk.next(p)) {
        }
        return true;
    } catch (const EConvertError &) {
        return false;
    }
}

} // namespace strokecheck
