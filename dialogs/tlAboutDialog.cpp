#include "tlAboutDialog.h"

#include "tlVersion.h"

#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {

const int pictureLogicalHeight = 300;
const int textLeft = 10;
const int versionTop = 7;
// The copyright line's top stands this many font heights above the picture's bottom.
const double copyrightLinesFromBottom = 1.5;
const int frameHeight = 5;
const int spacerWidth = 300;
const int spacerHeight = 20;
const int buttonRowMargin = 4;
// A large desktop font makes the licence smaller, in these steps, rather than cut it off.
const qreal licenseFontStep = 0.5;
const qreal smallestLicensePointSize = 6;

}

tlAboutDialog::tlAboutDialog(const QPixmap &aboutPicture, QWidget *parent, Qt::WindowFlags flags)
    : QDialog(parent, flags)
    , picture(aboutPicture)
    , versionText(tr("Version %1").arg(QString::fromLatin1(tl::version)))
    , copyrightText(tr("Copyright (C) 2026 The Tilvane developers"))
{
    setModal(true);

    // Scaled in device pixels and then marked with the screen's ratio, so that the
    // picture keeps its logical height and the texts are drawn at full resolution.
    const qreal pixelRatio = QGuiApplication::primaryScreen()->devicePixelRatio();
    picture = picture.scaledToHeight(int(pictureLogicalHeight * pixelRatio),
                                     Qt::SmoothTransformation);
    picture.setDevicePixelRatio(pixelRatio);
    paintTexts();

    const int width = int(picture.width() / pixelRatio);
    const int height = int(picture.height() / pixelRatio);

    pictureLabel = new QLabel(this);
    pictureLabel->setGeometry(0, 0, width, height);
    pictureLabel->setFixedSize(width, height);
    pictureLabel->setLineWidth(0);
    pictureLabel->setPixmap(picture);
    pictureLabel->setScaledContents(false);
    pictureLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pictureLabel->setIndent(textLeft);

    frame = new QFrame(this);
    frame->setGeometry(0, height, width, frameHeight);
    frame->setFrameShape(QFrame::HLine);
    frame->setFrameShadow(QFrame::Sunken);

    okButton = new QPushButton(tr("&Ok"), this);
    okButton->setAutoDefault(true);
    okButton->setDefault(true);
    licenseButton = new QPushButton(tr("&License"), this);
    setWindowTitle(tr("About Tilvane"));
    setSizeGripEnabled(false);

    buttonRow = new QHBoxLayout;
    buttonRow->addWidget(licenseButton);
    buttonRow->addItem(new QSpacerItem(spacerWidth, spacerHeight, QSizePolicy::Expanding,
                                       QSizePolicy::Minimum));
    buttonRow->addWidget(okButton);
    buttonRow->setContentsMargins(buttonRowMargin, buttonRowMargin, buttonRowMargin,
                                  buttonRowMargin);

    mainLayout = new QVBoxLayout(this);
    mainLayout->setSpacing(0);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->addWidget(pictureLabel);
    mainLayout->addWidget(frame);
    mainLayout->addLayout(buttonRow);
    // The picture sets the width: the button row's spacer would ask for more than a
    // 300 pixel high picture is wide and leave a blank strip beside it.
    setFixedSize(width, mainLayout->sizeHint().height());

    connect(okButton, &QPushButton::clicked, this, &tlAboutDialog::accept);
    connect(licenseButton, &QPushButton::clicked, this, &tlAboutDialog::license);
}

void tlAboutDialog::paintTexts()
{
    QPainter painter(&picture);
    const QFontMetrics metrics = painter.fontMetrics();
    painter.drawText(QRect(textLeft, versionTop, metrics.horizontalAdvance(versionText),
                           metrics.height()),
                     0, versionText);
    const int copyrightTop = int(picture.height() / picture.devicePixelRatio()
                                 - copyrightLinesFromBottom * metrics.height());
    painter.drawText(QRect(textLeft, copyrightTop, metrics.horizontalAdvance(copyrightText),
                           metrics.height()),
                     0, copyrightText);
}

void tlAboutDialog::accept()
{
    QDialog::accept();
    showPictureAgain();
}

void tlAboutDialog::reject()
{
    QDialog::reject();
    showPictureAgain();
}

void tlAboutDialog::showPictureAgain()
{
    if (!showingPicture)
        license();
}

void tlAboutDialog::fitLicense()
{
    const QSize room = pictureLabel->size() - QSize(pictureLabel->indent(), 0);
    QFont licenseFont = font();
    while (licenseFont.pointSizeF() > smallestLicensePointSize) {
        const QSize needed = QFontMetrics(licenseFont).size(0, pictureLabel->text());
        if (needed.width() <= room.width() && needed.height() <= room.height())
            break;
        licenseFont.setPointSizeF(licenseFont.pointSizeF() - licenseFontStep);
    }
    pictureLabel->setFont(licenseFont);
}

void tlAboutDialog::license()
{
    if (showingPicture) {
        licenseButton->setText(tr("Tit&le && Version"));
        showingPicture = false;
        pictureLabel->setText(copyrightText + QStringLiteral("\n\n") + tr(
            "This program is free software; you can redistribute it and/or\n"
            "modify it under the terms of the GNU General Public License\n"
            "as published by the Free Software Foundation; either version 2\n"
            "of the License, or (at your option) any later version.\n"
            "\n"
            "This program is distributed in the hope that it will be useful,\n"
            "but WITHOUT ANY WARRANTY; without even the implied warranty of\n"
            "MERCHANTABILITY or FITNESS FOR A PARTICULAR PURPOSE. See the\n"
            "GNU General Public License for more details.\n"
            "\n"
            "You should have received a copy of the GNU General Public License\n"
            "along with this program; if not, write to the Free Software\n"
            "Foundation, Inc., 51 Franklin Street, Fifth Floor, Boston,\n"
            "MA 02110-1301, USA."));
        fitLicense();
    } else {
        pictureLabel->setPixmap(picture);
        licenseButton->setText(tr("&License"));
        showingPicture = true;
    }
    update();
}
