#ifndef PREFERENCES_H
#define PREFERENCES_H

#include "settings/basepreferences.h"

// The training settings: how the next item comes (game method), the training
// type and the delay. Read once at construction, written through by the
// slots, one write per call. Only the type is read as the nearest one there
// is; the window copes with whatever else is stored.
class preferences : public basePreferences
{
    Q_OBJECT

public:
    preferences(QString organisation, QString application);
    ~preferences() override;

    int gameMethod();
    int &gameType();
    int timeDelay(); // milliseconds

public slots:
    void setGameMethod_1();
    void setGameMethod_2();
    void setGameType(int type);
    void setTimeDelay(int time); // whole seconds

private:
    int m_gameMethod;
    int m_gameType;
    int m_timeDelay;
};

#endif // PREFERENCES_H
