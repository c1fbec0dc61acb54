#pragma once

#include "Intents/CommandLine.h"
#include "Intents/FocusIntents.h"
#include "Platform/Linux/InstanceChannel.h"
#include "ViewLogic/Share/ShareCard.h"

#include <string>
#include <vector>

namespace kestrove {

// Runs a `kestrove` subcommand and returns its exit status: the running Kestrove answers it over
// its local socket; when none runs, the history is read without being created, migrated or
// changed. Needs no display: a card is rendered offscreen.
int runSubcommand(int argc, char** argv, const std::vector<std::string>& arguments);

namespace Subcommands {

// The answers, the same whoever computed the facts.
InstanceChannel::Answer statusAnswer(const FocusStatusFacts& facts);
InstanceChannel::Answer deepWorkAnswer(bool inDeepWork);
// The card rendered and encoded, or "Could not render the card.".
InstanceChannel::Answer cardAnswer(const ShareCard& card);
// A request that is not one of the commands.
InstanceChannel::Answer refusal(const std::string& message);

} // namespace Subcommands
} // namespace kestrove
