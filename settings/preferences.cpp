#include "settings/preferences.h"

#include <QSettings>

#include <limits>

preferences::preferences(QString organisation, QString application)
    : basePreferences(organisation, application)
{
    readValues();
}

preferences::preferences(QString organisation, QString application, const QVariantMap &forThisRun)
    : basePreferences(organisation, application, forThisRun)
{
    readValues();
}

void preferences::readValues()
{
    // Otherwise unchecked on purpose: the window copes with whatever is stored.
    m_gameMethod = value(QStringLiteral("gameMethod"), 1).toInt();
    // A type that is none would leave the buttons blank: the nearest one
    // there is, while the stored value stays until the user chooses a type.
    m_gameType = qBound(0, value(QStringLiteral("gameType"), 1).toInt(), 1);
    m_timeDelay = value(QStringLiteral("timeDelay"), 2000).toInt();
    // As for the type: the nearest presentation there is, the stored value kept.
    m_presentation = qBound(int(TextOnly), value(QStringLiteral("presentation"), int(TextOnly)).toInt(),
                            int(PictureListenAndText));
}

preferences::~preferences() = default;

int preferences::gameMethod()
{
    return m_gameMethod;
}

int &preferences::gameType()
{
    return m_gameType;
}

int preferences::timeDelay()
{
    return m_timeDelay;
}

void preferences::setGameMethod_1()
{
    m_gameMethod = 1;
    writeValue(QStringLiteral("gameMethod"), m_gameMethod);
}

void preferences::setGameMethod_2()
{
    m_gameMethod = 2;
    writeValue(QStringLiteral("gameMethod"), m_gameMethod);
}

void preferences::setGameType(int type)
{
    m_gameType = type;
    writeValue(QStringLiteral("gameType"), m_gameType);
}

void preferences::setTimeDelay(int time)
{
    // The dialog edits whole seconds; the window's timer wants milliseconds.
    // Only a caller other than the dialog (1 to 30 s) can overflow the
    // product; it saturates rather than wrapping round to a negative delay.
    m_timeDelay = int(qBound(qint64(std::numeric_limits<int>::min()), qint64(time) * 1000,
                             qint64(std::numeric_limits<int>::max())));
    writeValue(QStringLiteral("timeDelay"), m_timeDelay);
}

int preferences::presentation() const
{
    return m_presentation;
}

bool preferences::showsPicture(int presentation)
{
    return presentation == PictureAndText || presentation == PictureListenAndText;
}

bool preferences::speaksRightWord(int presentation)
{
    return presentation == ListenAndText || presentation == PictureListenAndText;
}

void preferences::setPresentation(int presentation)
{
    // Written only when it changes, so that looking at the settings stores nothing.
    if (presentation == m_presentation)
        return;
    m_presentation = presentation;
    writeValue(QStringLiteral("presentation"), m_presentation);
    emit presentationChanged(m_presentation);
}
