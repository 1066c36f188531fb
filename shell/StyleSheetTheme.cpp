#include "shell/StyleSheetTheme.h"

QString themeForScreen(const QRect &screenGeometry)
{
    return screenGeometry.bottom() - screenGeometry.top() > 999 ? QStringLiteral("highdpi")
                                                                 : QStringLiteral("default");
}
