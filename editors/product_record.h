// The product's record in the registry, left by an earlier installation.
#pragma once

class CInstallApp;

// Reads previousInstall, the user data and the group name of an earlier
// installation.
void ReadProductRecord(CInstallApp& app);
