#include "Form1Layout.h"

#include "FittedFont.h"
#include "LabelColour.h"
#include "SlotTexts.h"
#include "SongFont.h"
#include "Twips.h"

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
    Builder(QWidget* form, Form1Controls& controls)
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
        c_.Frame1 = frame("Frame1", "FileName", 720, 2295);
        c_.Frame2 = frame("Frame2", "StartTime", 3000, 1095);
        c_.Frame4 = frame("Frame4", "TimeTable", 4080, 1335);
        c_.Frame3 = frame("Frame3", "Commands", 5400, 3495);
        c_.Frame3->setFont(songFont(10.5));
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
        c_.Label1 = label(form_, QStringLiteral("Label1"), QStringLiteral("SystermTime\uFF1A"),
            twips_.rect(3240, 120, 1560, 360));
        c_.LabNowtime = label(
            form_, QStringLiteral("LabNowtime"), QString(), twips_.rect(4800, 120, 1800, 360));
        for (QLabel* l : {c_.Label1, c_.LabNowtime}) {
            l->setFont(songFont(12));
            paint(l, windowBackground, captionText);
        }
        c_.Label2 = label(form_, QStringLiteral("Label2"),
            QStringLiteral("Waring! Systerm Is Locked "), twips_.rect(2640, 600, 4575, 495));
        c_.Label2->setFont(songFont(15.75));
        paint(c_.Label2, windowBackground, warningText);
        c_.Label2->hide();
    }

    void buildRow(int i)
    {
        SlotControls& s = c_.slot[std::size_t(i)];
        const int top = 240 + 480 * i;

        s.LabFilename = slotLabel(
            c_.Frame1, indexed("LabFilename", i), QString(), twips_.rect(240, top, 1800, 180));
        // A long name wraps onto further lines and grows downward.
        s.LabFilename->setWordWrap(true);
        s.LabFilename->setMinimumHeight(twips_.toPixels(180));
        s.LabFilename->setMaximumHeight(twips_.toPixels(480 * (SlotCount - i)));
        s.LabFilename->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        s.Line1 = new QFrame(c_.Frame1);
        s.Line1->setObjectName(indexed("Line1", i));
        s.Line1->setFrameShape(QFrame::HLine);
        s.Line1->setGeometry(twips_.rect(240, 480 * (i + 1), 1800, 15));

        s.LabStarttime = slotLabel(c_.Frame2, indexed("LabStarttime", i), startTimePlaceholder(),
            twips_.rect(120, top, 855, 255));
        s.lblPast = slotLabel(c_.Frame4, indexed("lblPast", i), progressPlaceholder(),
            twips_.rect(120, top, 495, 255));
        s.Label4 = slotLabel(
            c_.Frame4, indexed("Label4", i), QStringLiteral("/"), twips_.rect(600, top, 135, 255));
        s.lblTotal = slotLabel(c_.Frame4, indexed("lblTotal", i), progressPlaceholder(),
            twips_.rect(720, top, 495, 255));
        for (QLabel* l : {s.LabStarttime, s.lblPast, s.Label4, s.lblTotal})
            l->setFont(slotLabelFont());
        fitFont(s.LabStarttime, startTimePlaceholder());
        fitFont(s.lblPast, QStringLiteral("100:00"));
        fitFont(s.lblTotal, QStringLiteral("100:00"));
        s.lblPast->setAlignment(Qt::AlignCenter);
        s.lblTotal->setAlignment(Qt::AlignCenter);

        s.Command1 = button(c_.Frame3, indexed("Command1", i), QStringLiteral("&Select"),
            twips_.rect(120, top, 855, 255));
        s.Command2 = button(c_.Frame3, indexed("Command2", i), QStringLiteral("&KelTime"),
            twips_.rect(960, top, 855, 255));
        s.Command3 = button(
            c_.Frame3, indexed("Command3", i), runCaption(), twips_.rect(1800, top, 855, 255));
        s.Command5 = button(c_.Frame3, indexed("Command5", i), QStringLiteral("&Stop"),
            twips_.rect(2640, top, 735, 255));
        for (QPushButton* b : {s.Command1, s.Command2, s.Command3, s.Command5})
            b->setFont(QGuiApplication::font());
    }

    void buildBottomBand()
    {
        c_.Command6 = button(form_, QStringLiteral("Command6"), QStringLiteral("&Lock"),
            twips_.rect(3840, 6720, 735, 255));
        c_.Command7 = button(form_, QStringLiteral("Command7"), QStringLiteral("&UnLock"),
            twips_.rect(4560, 6720, 735, 255));
        c_.Command8 = button(form_, QStringLiteral("Command8"), QStringLiteral("&Quit"),
            twips_.rect(5280, 6720, 735, 255));
        c_.Command8->setEnabled(false);

        c_.StatusLine = button(
            form_, QStringLiteral("StatusLine"), QString(), twips_.rect(240, 7080, 9240, 330));
        c_.StatusLine->setFlat(true);
        c_.StatusLine->setStyleSheet(QStringLiteral(
            "QPushButton { color: rgb(255, 80, 80); text-align: left; padding-left: 4px; }"));
        QObject::connect(c_.StatusLine, &QPushButton::clicked, c_.StatusLine, &QWidget::hide);
        c_.StatusLine->hide();
    }

    void buildTimers()
    {
        struct TimerDesign {
            int interval;
            bool enabled;
        };
        // Timer1 to Timer4, then the ten progress timers.
        const TimerDesign designs[4] = {{500, true}, {100, true}, {500, false}, {1000, true}};
        for (int number = 1; number <= 14; ++number) {
            auto* timer = new QTimer(form_);
            timer->setObjectName(QStringLiteral("Timer%1").arg(number));
            const TimerDesign design = number <= 4 ? designs[number - 1] : TimerDesign{1000, false};
            timer->setInterval(design.interval);
            if (design.enabled)
                timer->start();
            c_.timers[std::size_t(number - 1)] = timer;
        }
    }

    QWidget* form_;
    Form1Controls& c_;
    Twips twips_;
};

} // namespace

void buildForm1(QWidget* form, Form1Controls& controls)
{
    Builder(form, controls).build();
}
