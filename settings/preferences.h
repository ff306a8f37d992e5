#ifndef PREFERENCES_H
#define PREFERENCES_H

#include "settings/basepreferences.h"

// The training settings: how the next item comes (game method), the training
// type, the delay and how an item is offered (presentation). Read once at construction, written through by the
// slots, one write per call. Only the type is read as the nearest one there
// is; the window copes with whatever else is stored.
class preferences : public basePreferences
{
    Q_OBJECT

public:
    preferences(QString organisation, QString application);
    // For this run only (basePreferences).
    preferences(QString organisation, QString application, const QVariantMap &forThisRun);
    ~preferences() override;

    int gameMethod();
    int &gameType();
    int timeDelay(); // milliseconds

    // How an item is offered, key "presentation": written words only (the
    // default), with the right word's picture, with it spoken, or both.
    enum Presentation { TextOnly = 0, PictureAndText = 1, ListenAndText = 2, PictureListenAndText = 3 };
    int presentation() const;
    static bool showsPicture(int presentation);
    static bool speaksRightWord(int presentation);

public slots:
    void setGameMethod_1();
    void setGameMethod_2();
    void setGameType(int type);
    void setTimeDelay(int time); // whole seconds
    void setPresentation(int presentation);

signals:
    void presentationChanged(int presentation);

private:
    void readValues();

    int m_gameMethod;
    int m_gameType;
    int m_timeDelay;
    int m_presentation;
};

#endif // PREFERENCES_H
