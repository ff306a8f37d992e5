#ifndef BASEPREFERENCES_H
#define BASEPREFERENCES_H

#include <QObject>
#include <QString>
#include <QVariant>

class QSettings;

// The per-user settings of one organisation and application, and the font
// size of the controls, which every program of ours keeps.
//
// Font size: key "fontSize", in points, default 14. People with aphasia read
// best at about 14 points; the settings dialog offers 9 to 32. A stored value
// that cannot be a font size (zero, negative, not a number) reads as the
// default; any positive value is kept as it is.
//
// The settings live in QSettings' native per-user format: on Linux the file
// <config dir>/<organisation>/<application>.conf. The file is hand-editable,
// so it may be damaged: if it cannot be read completely at construction it
// is never written over during this run, because QSettings would silently
// drop whatever it could not parse. Changes then live in memory only. Bytes
// that are no UTF-8, and characters beyond U+FFFF, count as such damage: the
// first would come back as replacement characters, the second not at all.
class basePreferences : public QObject
{
    Q_OBJECT

public:
    basePreferences(QString organisation, QString application);
    // Settings for this run only (a homework file's): these values, the
    // rest at their defaults; the settings file is neither read nor written.
    basePreferences(QString organisation, QString application, const QVariantMap &forThisRun);
    ~basePreferences() override;

    int fontSize();

    // Further settings of the capabilities that build on the trainer (speech,
    // own word lists, patients), each under its own top-level key. A missing
    // key gives the fallback; a change is written through like the others.
    QVariant value(const QString &key, const QVariant &fallback = QVariant()) const;
    void setValue(const QString &key, const QVariant &value);

public slots:
    void setFontSize(int size);

signals:
    // The warning of a value not stored, in the user's words, for the window.
    void notStored(const QString &message);

protected:
    // Writes one value through to the settings file at once. When the file
    // cannot be written the value stays in memory for the rest of the run,
    // one warning line naming the file goes to standard error and
    // notStored() tells the same.
    void writeValue(const QString &key, const QVariant &value);

    // Null until the first write where there were no settings yet (Windows).
    QSettings *settings;

private:
    void openStore();
    void readFontSize();

    QString m_organisation;
    QString m_application;
    int m_fontSize;
    bool m_readCompletely;
    bool m_forThisRun = false;
    // Values that could not be written, so that the run still sees them.
    QVariantMap m_unstored;
};

#endif // BASEPREFERENCES_H
