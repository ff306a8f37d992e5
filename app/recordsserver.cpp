#include "app/recordsserver.h"

#include "app/commandline.h"
#include "settings/preferences.h"

recordsServerChoice recordsServer(const StartOptions &options, preferences &)
{
    return {options.records, QString()};
}
