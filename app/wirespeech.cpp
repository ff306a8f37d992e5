#include "app/capabilities.h"

void wireSpeech(gameThreeWords &, preferences &)
{
}
