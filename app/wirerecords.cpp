#include "app/capabilities.h"

void wireRecords(gameThreeWords &, preferences &, const StartOptions &)
{
}
