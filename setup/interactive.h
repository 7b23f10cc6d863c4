// The interactive installation: the skinned wizard for a new installation,
// or the repair dialog when the product's key names an install folder.
#pragma once

#include <string>

class CGlimmoraInstallApp;

// Runs the user interface modally and returns when its last dialog closes.
// `installed_folder` is the folder an earlier installation recorded, or empty.
void RunInteractiveInstallation(CGlimmoraInstallApp& app, const std::u16string& installed_folder);
