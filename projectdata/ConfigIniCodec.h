#ifndef CONFIGINICODEC_H
#define CONFIGINICODEC_H

#include <QByteArray>
#include <QString>

// The bytes of a station's "config.ini": UTF-8 as the program writes it, or GBK when an editor
// on a Chinese Windows saved it in its local encoding. Whatever rewrites or extends a file keeps
// the encoding it was read in.
namespace ConfigIniCodec {

struct Text
{
    QString text;
    bool gbk = false;
};

// Bytes that are not valid UTF-8 are read as GBK.
Text decode(const QByteArray &bytes);
QByteArray encode(const QString &text, bool gbk);

} // namespace ConfigIniCodec

#endif // CONFIGINICODEC_H
