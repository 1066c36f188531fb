#include "projectdata/ConfigIniCodec.h"

#include <QTextCodec>

namespace {

QTextCodec *gbkCodec()
{
    return QTextCodec::codecForName("GBK");
}

bool isUtf8(const QByteArray &bytes)
{
    QTextCodec::ConverterState state;
    QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    return state.invalidChars == 0 && state.remainingChars == 0;
}

} // namespace

namespace ConfigIniCodec {

Text decode(const QByteArray &bytes)
{
    if (isUtf8(bytes) || !gbkCodec())
        return {QString::fromUtf8(bytes), false};
    return {gbkCodec()->toUnicode(bytes), true};
}

QByteArray encode(const QString &text, bool gbk)
{
    return gbk && gbkCodec() ? gbkCodec()->fromUnicode(text) : text.toUtf8();
}

} // namespace ConfigIniCodec
