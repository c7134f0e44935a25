// The product's record in the registry, SOFTWARE\Bramo\OVCA40DEMO under
// HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE: where it was installed, its
// program group, its user and the editors it was set up for. The checker's
// parts that the editors load read it, so it is kept in their (32-bit) view.
#pragma once

class CInstallApp;

// Whether an earlier installation left its record, for this user or for the
// machine (made by another administrator, or by a deployment tool's system
// account, whose own user record nobody else sees).
bool ProductRecordExists();

// Reads previousInstall, the user data, the group name and the folder of an
// earlier installation: the user's record, or else the machine's.
void ReadProductRecord(CInstallApp& app);

// Writes the record at the end of an installation.
void WriteProductRecord(CInstallApp& app);

// Removes the record with its editor subkeys, under both roots.
void DeleteProductRecord();
