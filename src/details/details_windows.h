#pragma once
// Lets the main window make the settings window (its settings button) and
// the agent's card (beside its avatar); start-up calls this once.
namespace kanzo {

class WindowFactories;

void InstallDetailsWindowFactories(WindowFactories& factories);

}  // namespace kanzo
