#include "appearance/windows/version_window.h"

#include "appearance/windows/artwork.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>

const char* const VersionWindow::kCompanyText = QT_TRANSLATE_NOOP("VersionWindow", "Velquor Power Measurement Instruments");
const char* const VersionWindow::kVersionNumberText = QT_TRANSLATE_NOOP("VersionWindow", "Version Number : QZR6100_S_01");
const char* const VersionWindow::kVersionTitleText = QT_TRANSLATE_NOOP("VersionWindow", "Version Title : QZR6100 Software");
const char* const VersionWindow::kDateText = QT_TRANSLATE_NOOP("VersionWindow", "Date : 2011-10-08");
const char* const VersionWindow::kWebsitePrefix = QT_TRANSLATE_NOOP("VersionWindow", "Wedsite: ");

namespace {

// The window has a fixed size, so its texts get a fixed pixel size: the
// lines then fit the same way whatever the desktop's default font.
constexpr int kTextPixelSize = 11;
constexpr int kLineLeft = 12;
constexpr int kLineHeight = 15;
constexpr int kFirstLineTop = 46;
// The three middle lines stop short of the button on their right.
constexpr int kShortLineWidth = 214;
constexpr int kFullLineWidth = VersionWindow::kClientWidth - 2 * kLineLeft;

QRect LineRect(int index, int width)
{
    return QRect(kLineLeft, kFirstLineTop + index * kLineHeight, width, kLineHeight);
}

} // namespace

VersionWindow::VersionWindow(const QString& websiteAddress, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("TVForm"));
    setWindowTitle(tr("Version"));
    setFixedSize(kClientWidth, kClientHeight);
    setSizeGripEnabled(false);

    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("LogoImage"));
    logo->setGeometry(QRect(QPoint(8, 8), artwork::kLogoSize));
    logo->setPixmap(artwork::Logo(devicePixelRatioF()));

    addLine("CompanyLabel", tr(kCompanyText), LineRect(0, kFullLineWidth));
    addLine("VersionNumberLabel", tr(kVersionNumberText), LineRect(1, kShortLineWidth));
    addLine("VersionTitleLabel", tr(kVersionTitleText), LineRect(2, kShortLineWidth));
    addLine("DateLabel", tr(kDateText), LineRect(3, kShortLineWidth));
    websiteAddress_ = websiteAddress;
    QLabel* website = addLine("WebsiteLabel", tr(kWebsitePrefix) + websiteAddress,
                              LineRect(4, kFullLineWidth));
    // The address can be copied from here.
    website->setTextInteractionFlags(Qt::TextSelectableByMouse);
    websiteLabel_ = website;

    auto* enter = new QPushButton(tr("Enter"), this);
    enter->setObjectName(QStringLiteral("EnterButton"));
    enter->setGeometry(kClientWidth - 8 - 76, kFirstLineTop + kLineHeight + 4, 76, 26);
    enter->setDefault(true);
    connect(enter, &QPushButton::clicked, this, &QDialog::accept);
    texts_.capture(this);
}

void VersionWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        texts_.retranslate();
        websiteLabel_->setText(tr(kWebsitePrefix) + websiteAddress_);
    }
    QDialog::changeEvent(event);
}

QLabel* VersionWindow::addLine(const char* objectName, const QString& text, const QRect& geometry)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(objectName));
    QFont font = label->font();
    font.setPixelSize(kTextPixelSize);
    label->setFont(font);
    label->setGeometry(geometry);
    return label;
}
