#include "app/recordsserver.h"

#include "app/commandline.h"
#include "settings/preferences.h"
#include "settings/recordslocation.h"

recordsServerChoice recordsServer(const StartOptions &options, preferences &prefs)
{
    if (!options.records.isEmpty())
        return {options.records, QString(), QString()};
    const recordsLocation location(prefs);
    if (!location.onServer() || location.url().isEmpty())
        return {};
    return {location.url(), QString(), recordsLocation::passwordKey(location.stored())};
}
