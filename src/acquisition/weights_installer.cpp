#include "acquisition/weights_installer.h"

#include <string>

#include "common/paths.h"

namespace acquisition {

void AskForFirstWeights(common::Host& host, std::optional<std::string_view> labelText) {
    host.messageBox(common::AppFolder() + std::string(kSetFirstWeightsMessage));
    if (labelText) host.setStatus(common::StatusBox::Label1, *labelText);
    // Nothing it returns is used: it only unpacks the weights for the next steps.
    host.startProgram(common::AppPath(kWeightsInstaller));
}

}  // namespace acquisition
