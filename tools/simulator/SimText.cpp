#include "tools/simulator/SimText.h"

namespace SimText {

QList<QPair<QByteArray, QByteArray>> keyValues(const QByteArray &text)
{
    QList<QPair<QByteArray, QByteArray>> out;
    for (QByteArray line : text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        const int eq = line.indexOf('=');
        if (eq > 0)
            out.append({line.left(eq), line.mid(eq + 1)});
    }
    return out;
}

} // namespace SimText
