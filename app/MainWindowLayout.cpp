#include "app/MainWindowLayout.h"

#include "platform/FileDialog.h"
#include "platform/MediaPlayer.h"
#include "window/FittedFont.h"
#include "window/LabelColour.h"
#include "window/SlotTexts.h"
#include "window/SongFont.h"
#include "window/Twips.h"

#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace {

const QColor windowBackground(77, 91, 132);
const QColor captionText(192, 255, 255);
const QColor warningText(255, 0, 0);

QFont slotLabelFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans Condensed"),
        QStringLiteral("DejaVu Sans")});
    font.setStretch(QFont::Condensed);
    font.setPointSizeF(9.75);
    return font;
}

// The narrow columns were drawn for a narrow bitmap font; the widest text a
// label shows must fit.
void fitFont(QLabel* label, const QString& widestText)
{
    label->setFont(fittedFont(label->font(), widestText, label->width()));
}

QString indexed(const char* name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

void paint(QWidget* widget, const QColor& background, const QColor& text)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    widget->setPalette(palette);
}

class Builder {
public:
    Builder(QWidget* form, WindowControls& controls)
        : form_(form), c_(controls),
          twips_(form->screen() ? form->screen()->logicalDotsPerInch() : 96.0)
    {
    }

    void build()
    {
        form_->setObjectName(QStringLiteral("Form1"));
        form_->setWindowTitle(QStringLiteral("Tarnwick------Powered By Quellin"));
        form_->setFixedSize(twips_.toPixels(9720), twips_.toPixels(7515));
        form_->setAutoFillBackground(true);
        paint(form_, windowBackground, captionText);

        buildTopBand();
        c_.fileNameFrame = frame("Frame1", "FileName", 720, 2295);
        c_.startTimeFrame = frame("Frame2", "StartTime", 3000, 1095);
        c_.progressFrame = frame("Frame4", "TimeTable", 4080, 1335);
        c_.commandFrame = frame("Frame3", "Commands", 5400, 3495);
        c_.commandFrame->setFont(songFont(10.5));
        for (int i = 0; i < SlotCount; ++i)
            buildRow(i);
        buildBottomBand();
        buildTimers();
    }

private:
    QLabel* label(QWidget* parent, const QString& name, const QString& text, QRect geometry)
    {
        auto* label = new QLabel(text, parent);
        label->setObjectName(name);
        label->setGeometry(geometry);
        return label;
    }

    QPushButton* button(QWidget* parent, const QString& name, const QString& text, QRect geometry)
    {
        auto* button = new QPushButton(text, parent);
        button->setObjectName(name);
        button->setGeometry(geometry);
        // Buttons keep the toolkit's look inside the coloured frames.
        button->setAutoFillBackground(true);
        button->setPalette(QGuiApplication::palette());
        return button;
    }

    QGroupBox* frame(const char* name, const char* caption, int left, int width)
    {
        auto* box = new QGroupBox(QString::fromLatin1(caption), form_);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(twips_.rect(left, 1200, width, 5055));
        box->setAutoFillBackground(true);
        paint(box, windowBackground, captionText);
        return box;
    }

    QLabel* slotLabel(QWidget* parent, const QString& name, const QString& text, QRect geometry)
    {
        QLabel* l = label(parent, name, text, geometry);
        l->setAutoFillBackground(true);
        paint(l, windowBackground, LabelColour::toQColor(LabelColour::SlotText));
        LabelColour::set(l, LabelColour::SlotText);
        return l;
    }

    void buildTopBand()
    {
        c_.clockCaption = label(form_, QStringLiteral("Label1"),
            QStringLiteral("SystermTime\uFF1A"), twips_.rect(3240, 120, 1560, 360));
        c_.clockLabel = label(
            form_, QStringLiteral("LabNowtime"), QString(), twips_.rect(4800, 120, 1800, 360));
        for (QLabel* l : {c_.clockCaption, c_.clockLabel}) {
            l->setFont(songFont(12));
            paint(l, windowBackground, captionText);
        }
        c_.lockWarning = label(form_, QStringLiteral("Label2"),
            QStringLiteral("Waring! Systerm Is Locked "), twips_.rect(2640, 600, 4575, 495));
        c_.lockWarning->setFont(songFont(15.75));
        paint(c_.lockWarning, windowBackground, warningText);
        c_.lockWarning->hide();
    }

    void buildRow(int i)
    {
        SlotControls& s = c_.slot(i);
        const int top = 240 + 480 * i;

        s.fileNameLabel = slotLabel(c_.fileNameFrame, indexed("LabFilename", i), QString(),
            twips_.rect(240, top, 1800, 180));
        // A long name wraps onto further lines and grows downward.
        s.fileNameLabel->setWordWrap(true);
        s.fileNameLabel->setMinimumHeight(twips_.toPixels(180));
        s.fileNameLabel->setMaximumHeight(twips_.toPixels(480 * (SlotCount - i)));
        s.fileNameLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        s.separatorLine = new QFrame(c_.fileNameFrame);
        s.separatorLine->setObjectName(indexed("Line1", i));
        s.separatorLine->setFrameShape(QFrame::HLine);
        s.separatorLine->setGeometry(twips_.rect(240, 480 * (i + 1), 1800, 15));

        s.startTimeLabel = slotLabel(c_.startTimeFrame, indexed("LabStarttime", i),
            startTimePlaceholder(), twips_.rect(120, top, 855, 255));
        s.elapsedLabel = slotLabel(c_.progressFrame, indexed("lblPast", i), progressPlaceholder(),
            twips_.rect(120, top, 495, 255));
        s.slashLabel = slotLabel(c_.progressFrame, indexed("Label4", i), QStringLiteral("/"),
            twips_.rect(600, top, 135, 255));
        s.totalLabel = slotLabel(c_.progressFrame, indexed("lblTotal", i), progressPlaceholder(),
            twips_.rect(720, top, 495, 255));
        for (QLabel* l : {s.startTimeLabel, s.elapsedLabel, s.slashLabel, s.totalLabel})
            l->setFont(slotLabelFont());
        fitFont(s.startTimeLabel, startTimePlaceholder());
        fitFont(s.elapsedLabel, QStringLiteral("100:00"));
        fitFont(s.totalLabel, QStringLiteral("100:00"));
        s.elapsedLabel->setAlignment(Qt::AlignCenter);
        s.totalLabel->setAlignment(Qt::AlignCenter);

        s.chooseFileButton = button(c_.commandFrame, indexed("Command1", i),
            QStringLiteral("&Select"), twips_.rect(120, top, 855, 255));
        s.setTimeButton = button(c_.commandFrame, indexed("Command2", i),
            QStringLiteral("&KelTime"), twips_.rect(960, top, 855, 255));
        s.runButton = button(c_.commandFrame, indexed("Command3", i), runCaption(),
            twips_.rect(1800, top, 855, 255));
        s.stopButton = button(c_.commandFrame, indexed("Command5", i), QStringLiteral("&Stop"),
            twips_.rect(2640, top, 735, 255));
        for (QPushButton* b : {s.chooseFileButton, s.setTimeButton, s.runButton, s.stopButton})
            b->setFont(QGuiApplication::font());
    }

    void buildBottomBand()
    {
        c_.lockButton = button(form_, QStringLiteral("Command6"), QStringLiteral("&Lock"),
            twips_.rect(3840, 6720, 735, 255));
        c_.unlockButton = button(form_, QStringLiteral("Command7"), QStringLiteral("&UnLock"),
            twips_.rect(4560, 6720, 735, 255));
        c_.quitButton = button(form_, QStringLiteral("Command8"), QStringLiteral("&Quit"),
            twips_.rect(5280, 6720, 735, 255));
        c_.quitButton->setEnabled(false);

        c_.nextStartLabel =
            label(form_, QStringLiteral("NextStart"), QString(), twips_.rect(240, 6330, 9240, 330));
        c_.nextStartLabel->setFont(songFont(10.5));
        paint(c_.nextStartLabel, windowBackground, captionText);

        c_.statusLine = button(
            form_, QStringLiteral("StatusLine"), QString(), twips_.rect(240, 7080, 9240, 330));
        c_.statusLine->setFlat(true);
        c_.statusLine->setStyleSheet(QStringLiteral(
            "QPushButton { color: rgb(255, 80, 80); text-align: left; padding-left: 4px; }"));
        c_.statusLine->hide();
    }

    QTimer* timer(int number, int interval, bool running)
    {
        auto* timer = new QTimer(form_);
        timer->setObjectName(QStringLiteral("Timer%1").arg(number));
        timer->setInterval(interval);
        if (running)
            timer->start();
        return timer;
    }

    void buildTimers()
    {
        // Started when the window is loaded; the clock then arms it for each
        // second.
        c_.schedulerTimer = timer(1, 1000, false);
        c_.clockTimer = timer(2, 100, true);
        c_.warningShowTimer = timer(3, 500, false);
        c_.warningHideTimer = timer(4, 1000, true);
        for (int i = 0; i < SlotCount; ++i)
            c_.progressTimers[std::size_t(i)] = timer(5 + i, 1000, false);
    }

    QWidget* form_;
    WindowControls& c_;
    Twips twips_;
};

} // namespace

void buildMainWindow(QWidget* form, WindowControls& controls)
{
    Builder(form, controls).build();
}

namespace {

template <typename T> void nameIfQObject(T* component, const QString& name)
{
    if (auto* object = dynamic_cast<QObject*>(component))
        object->setObjectName(name);
}

} // namespace

void nameSlotComponents(
    const SlotPlayers& players, const std::array<FileDialog*, SlotCount>& dialogs)
{
    for (int i = 0; i < SlotCount; ++i) {
        nameIfQObject(players[std::size_t(i)], QStringLiteral("MediaPlayer1(%1)").arg(i));
        nameIfQObject(dialogs[std::size_t(i)], QStringLiteral("CommonDialog1(%1)").arg(i));
    }
}
