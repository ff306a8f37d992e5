#include "dialogs/einstellungen.h"

#include "dialogs/screenfit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>

einstellungen::einstellungen(QWidget *parent)
    : QDialog(parent)
{
    ui.setupUi(this);
    keepOnScreen(this);

    ui.label_speechNote->hide();
    // The form is laid out for 474 x 380 pixels. Where the platform's font
    // is wider than the one it was drawn with, "Zeitverzögerung" would be cut
    // off; the dialog then grows just enough to show every text whole, and
    // stays fixed at that size.
    fitContents();
    connect(ui.tabWidget, &QTabWidget::currentChanged, this, &einstellungen::showPage);

    connect(ui.pushButton_OK, &QPushButton::clicked, this, &einstellungen::close);
    // clicked, not toggled: presetting must not write the method back, while
    // a click on the button that is already checked must.
    connect(ui.radioButton_weiter, &QRadioButton::clicked, this, &einstellungen::gameMethod_1);
    connect(ui.radioButton_time, &QRadioButton::clicked, this, &einstellungen::gameMethod_2);
    connect(ui.spinBox_time, qOverload<int>(&QSpinBox::valueChanged),
            this, &einstellungen::timeDelayChanged);
    connect(ui.spinBox_fontSize, qOverload<int>(&QSpinBox::valueChanged),
            this, &einstellungen::fontSizeChanged);
    // activated: the user's choice only, so that presetting stores nothing.
    connect(ui.comboBox_presentation, qOverload<int>(&QComboBox::activated), this,
            &einstellungen::presentationChanged);
    connect(ui.checkBox_speakWords, &QCheckBox::clicked, this, &einstellungen::speakWordsChanged);
    connect(ui.comboBox_voice, &QComboBox::textActivated, this, &einstellungen::speechVoiceChanged);
    connect(ui.slider_rate, &QSlider::valueChanged, this, &einstellungen::speechRateChanged);
    connect(ui.pushButton_probe, &QPushButton::clicked, this, &einstellungen::speechProbeRequested);
}

einstellungen::~einstellungen() = default;

void einstellungen::showPreferences()
{
}

void einstellungen::setFontSize(int size)
{
    ui.spinBox_fontSize->setValue(size);
}

void einstellungen::setGameMethod(int method)
{
    // Unchecking the checked button of an auto-exclusive pair is refused by
    // the button itself, so each branch ends with exactly the wanted button
    // checked whatever the starting state.
    if (method == 1) {
        if (!ui.radioButton_weiter->isChecked())
            ui.radioButton_weiter->toggle();
        if (ui.radioButton_time->isChecked())
            ui.radioButton_time->toggle();
    } else if (method == 2) {
        if (ui.radioButton_weiter->isChecked())
            ui.radioButton_weiter->toggle();
        if (!ui.radioButton_time->isChecked())
            ui.radioButton_time->toggle();
    }
}

void einstellungen::setTimeDelay(int time)
{
    ui.spinBox_time->setValue(time / 1000);
}

void einstellungen::setPresentation(int presentation)
{
    ui.comboBox_presentation->setCurrentIndex(qBound(0, presentation, ui.comboBox_presentation->count() - 1));
}

void einstellungen::setSpeakWords(bool on)
{
    ui.checkBox_speakWords->setChecked(on);
}

void einstellungen::setSpeechRate(int rate)
{
    ui.slider_rate->setValue(rate);
}

void einstellungen::setSpeechVoices(const QStringList &names, const QString &current)
{
    ui.comboBox_voice->clear();
    ui.comboBox_voice->addItems(names);
    ui.comboBox_voice->setCurrentIndex(qMax(0, names.indexOf(current)));
    const bool usable = ui.checkBox_speakWords->isEnabled() && !names.isEmpty();
    ui.comboBox_voice->setEnabled(usable);
    ui.pushButton_probe->setEnabled(usable);
}

void einstellungen::setSpeechNote(const QString &note, bool usable)
{
    ui.label_speechNote->setText(note);
    ui.label_speechNote->setVisible(!note.isEmpty());
    const bool voices = usable && ui.comboBox_voice->count() > 0;
    // The line itself stays enabled, so that the reason reads clearly.
    const std::initializer_list<QWidget *> controls = {ui.checkBox_speakWords, ui.slider_rate, ui.label_voice,
                                                       ui.label_rate, ui.label_slow, ui.label_fast};
    for (QWidget *control : controls)
        control->setEnabled(usable);
    // Switched on, it can always be switched off: otherwise every start
    // would warn again of an engine that cannot work here.
    ui.checkBox_speakWords->setEnabled(usable || ui.checkBox_speakWords->isChecked());
    ui.comboBox_voice->setEnabled(voices);
    ui.pushButton_probe->setEnabled(voices);
    fitContents();
}

void einstellungen::addPage(QWidget *page, const QString &title)
{
    // The training's page alone gives the dialog its height, as it always
    // had; another page grows it while it is shown (showPage), and scrolls
    // where the screen is too small for it.
    auto *scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    scroll->setWidget(page);
    scroll->setMinimumWidth(page->minimumSizeHint().width() + scroll->verticalScrollBar()->sizeHint().width());
    ui.tabWidget->addTab(scroll, title);
    fitContents();
}

void einstellungen::showPage(int current)
{
    for (int i = 0; i < ui.tabWidget->count(); ++i)
        ui.tabWidget->widget(i)->setSizePolicy(QSizePolicy::Preferred,
                                              i == current ? QSizePolicy::Preferred : QSizePolicy::Ignored);
    ui.tabWidget->updateGeometry();
    layout()->activate();
    // The training's rows at their least, as the dialog always showed them;
    // another page as tall as it would like.
    QSize wanted = current == 0 ? minimumSizeHint() : sizeHint().expandedTo(minimumSizeHint());
    wanted.setWidth(qMax(wanted.width(), width()));
    const QRect room = screen()->availableGeometry();
    const QSize frame = frameGeometry().size() - size();
    setFixedSize(wanted.boundedTo(room.size() - frame));
    // Grown downwards, it is lifted back inside.
    if (isVisible() && frameGeometry().bottom() > room.bottom())
        move(x(), qMax(room.top(), room.bottom() - frameGeometry().height() + 1));
}

void einstellungen::fitContents()
{
    // The rows' sizes are otherwise learnt only from a posted layout
    // request, after the dialog has been measured: inside the tab their
    // texts, set after the layout was made, do not reach the page's layout.
    for (QWidget *row : {ui.widget, ui.widget_2, ui.widget_3, static_cast<QWidget *>(ui.groupBox_vorlesen)})
        row->updateGeometry();
    const QSize needed = minimumSizeHint().expandedTo(size());
    if (needed != size())
        setFixedSize(needed);
}
