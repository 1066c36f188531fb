#include "mainwindow/MainWindow.h"

#include "common/Global_Variables.h"
#include "shell/chrome/FramelessHelper.h"
#include "shell/chrome/QtMaterialSnackbar.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The window buttons show glyphs of the "Marlett" symbol font: "0" minimise, "1" maximise,
// "2" restore, "r" close. Where that font is not installed, like-looking characters stand in.
QString windowGlyph(char marlettCode)
{
    static const bool hasMarlett = QFontDatabase().families().contains(QStringLiteral("Marlett"));
    if (hasMarlett)
        return QString(QLatin1Char(marlettCode));
    switch (marlettCode) {
    case '0':
        return QStringLiteral("\u2500");
    case '1':
        return QStringLiteral("\u25A1");
    case '2':
        return QStringLiteral("\u2750");
    default:
        return QStringLiteral("\u2715");
    }
}

QPushButton *createMenuButton(const QString &objectName, char glyph, const QString &toolTip, QWidget *parent)
{
    auto *button = new QPushButton(windowGlyph(glyph), parent);
    button->setObjectName(objectName);
    button->setMinimumSize(50, 50);
    button->setFont(QFont(QStringLiteral("Marlett")));
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(toolTip);
    return button;
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    appDirPath = QDir::fromNativeSeparators(QCoreApplication::applicationDirPath());
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("MainWindow"));
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("Velkor"));
    resize(1200, 680);
    setMinimumSize(1024, 650);

    auto *centralWidget = new QWidget(this);
    centralWidget->setObjectName(QStringLiteral("centralWidget"));
    centralWidget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto *layout = new QVBoxLayout(centralWidget);
    layout->setObjectName(QStringLiteral("layout_centralWidget"));
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(createAppBar());
    layout->addStretch();
    setCentralWidget(centralWidget);

    snackbar = new QtMaterialSnackbar(this);
    initForm();
}

// The title band moves the window, its edges resize it; the logo and the window buttons stay clickable.
void MainWindow::initForm()
{
    auto *btnMenuMin = findChild<QPushButton *>(QStringLiteral("btnMenu_Min"));
    auto *btnMenuMax = findChild<QPushButton *>(QStringLiteral("btnMenu_Max"));
    framelessHelper = new FramelessHelper(this);
    framelessHelper->setResizeMargins(3, 3, 3, 3);
    framelessHelper->setTitleBarHeight(50);
    framelessHelper->addExcludedWidget(findChild<QWidget *>(QStringLiteral("labIco")));
    framelessHelper->addExcludedWidget(btnMenuMin);
    framelessHelper->addExcludedWidget(btnMenuMax);
    framelessHelper->addExcludedWidget(findChild<QWidget *>(QStringLiteral("btnMenu_Close")));
    connect(btnMenuMin, &QPushButton::clicked, framelessHelper, &FramelessHelper::triggerMinimizeButtonAction);
    connect(btnMenuMax, &QPushButton::clicked, framelessHelper, &FramelessHelper::triggerMaximizeButtonAction);
    connect(framelessHelper, &FramelessHelper::maximizedChanged, this, &MainWindow::updateMaximizeButton);
}

void MainWindow::updateMaximizeButton(bool maximized)
{
    auto *btnMenuMax = findChild<QPushButton *>(QStringLiteral("btnMenu_Max"));
    btnMenuMax->setText(windowGlyph(maximized ? '2' : '1'));
    btnMenuMax->setToolTip(maximized ? QStringLiteral("还原") : QStringLiteral("最大化"));
}

QWidget *MainWindow::createAppBar()
{
    auto *appBar = new QWidget;
    appBar->setObjectName(QStringLiteral("appBar"));
    auto *layout = new QHBoxLayout(appBar);
    layout->setObjectName(QStringLiteral("horizontalLayout_10"));
    layout->setSpacing(6);
    layout->setContentsMargins(0, 0, 0, 0);

    auto *labIco = new QPushButton(appBar);
    labIco->setObjectName(QStringLiteral("labIco"));
    labIco->setMinimumSize(138, 50);
    layout->addWidget(labIco);

    auto *labTitle = new QLabel(QStringLiteral("Velkor采集系统"), appBar);
    labTitle->setObjectName(QStringLiteral("labTitle"));
    labTitle->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    layout->addWidget(labTitle);
    layout->addStretch();

    auto *menuLayout = new QGridLayout;
    menuLayout->setObjectName(QStringLiteral("gridLayout_Menu"));
    menuLayout->setSpacing(6);
    menuLayout->addWidget(createMenuButton(QStringLiteral("btnMenu_Min"), '0',
                                           QStringLiteral("最小化"), appBar), 0, 0);
    menuLayout->addWidget(createMenuButton(QStringLiteral("btnMenu_Max"), '1',
                                           QStringLiteral("最大化"), appBar), 0, 1);
    QPushButton *closeButton = createMenuButton(QStringLiteral("btnMenu_Close"), 'r',
                                                QStringLiteral("关闭"), appBar);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    menuLayout->addWidget(closeButton, 0, 2);
    layout->addLayout(menuLayout);
    return appBar;
}
