#pragma once
namespace kanzo::platform {
// Makes ShowMessageBox open a real QMessageBox.
void InstallQtMessageBoxHandler();
}  // namespace kanzo::platform
