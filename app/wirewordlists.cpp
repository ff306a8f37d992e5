#include "app/capabilities.h"

void wireWordLists(gameThreeWords &, preferences &, const StartOptions &)
{
}
