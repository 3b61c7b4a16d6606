#pragma once

#include <QObject>
#include <QString>

// A link that opens an address in the desktop's own program for it. The type adds the scheme in
// front of the address.
class TURL : public QObject
{
    Q_OBJECT
public:
    enum TURLType { utFile, utFtp, utGopher, utHttp, utHttps, utMailto, utNews, utTelnet, utWais, utnone };
    Q_ENUM(TURLType)

    // The longest text handed to the desktop.
    static constexpr int maxLength = 79;

    explicit TURL(QObject *parent = nullptr) : QObject(parent) {}

    QString URL;
    TURLType URLType = utHttp;

    static QString prefix(TURLType type);
    // What open() hands to the desktop: the prefix and the address, or an empty text when there is
    // nothing to open (no address, or a text longer than maxLength, which would open a
    // different, cut-off address).
    static QString target(TURLType type, const QString &url);

    // True when the desktop took the address.
    bool open() const;
};
