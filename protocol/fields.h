#pragma once

#include <QString>

// Reads the fields of a command's payload from the left. Each field but the last is the text up
// to the next "+", removed together with that "+"; where no "+" follows, the field reads as empty
// and nothing is removed. The last field is whatever remains. No other code splits on "+".
class FieldReader
{
public:
    explicit FieldReader(QString payload) : text(std::move(payload)) {}

    QString next();
    // The next field as a whole number; raises EConvertError when it does not read.
    int nextInt();
    // Everything that remains (the last field).
    const QString &rest() const { return text; }
    int restInt() const;

private:
    QString text;
};
