// The installation profile read into the application object's containers,
// and the model written back into the uninstall profile (the install log).
#pragma once

#include <cstdint>
#include <string>

class CInstallApp;
class CProfileFile;

// Largest disk number a profile may give; a record beyond it is ignored.
constexpr int kMaxDiskNumber = 255;

// Reads destinations, groups, targets, the group sections and the disks, in
// that order, letting window messages through between the steps. Raises
// CInstallProfileException(kProfileNoDestinations) when there are no
// destinations, and (kProfileDamaged) before anything is read when the
// installation profile is not the one its distribution was made with.
void ReadProfile(CInstallApp& app, const std::string& file);
// Reads the installation profile into an image: from the download when
// the program carries the distribution (file is then not read), else file.
void LoadInstallProfile(const CInstallApp& app, const std::string& file, CProfileFile& image);

// Whether an installation profile is the one mkdisks made: it begins with
// "[check]" and "crc=" followed by the checksum of every byte after that
// line. A profile without the seal (an older distribution) counts as whole.
bool ProfileIsWhole(const std::string& bytes);

// Every group's selection becomes its typical-installation flag.
void SelectGroups(CInstallApp& app);

// Derives each destination's folder from its parent's (anew when it was
// derived before: the installation folder may have changed), in at most as
// many passes as there are destinations; otherwise raises
// CInstallProfileException(kProfileUnresolvedFolder).
void ResolveDestinations(CInstallApp& app);

// Bytes needed by the files of the selected groups on a drive whose
// clusters hold clusterBytes (0: the plain byte total).
std::int64_t EstimateSpace(const CInstallApp& app, std::int64_t clusterBytes);

// The key of a file the user changes after installation in userFiles.
std::string UserFileKey(const std::string& name, int destination);
// Whether the profile names the file so (a profile without the section
// names the user's two dictionaries in the installation folder).
bool IsUserFile(const CInstallApp& app, const std::string& name, int destination);

// Notes the installed path of the target named like the placed file.
void RecordInstalledTarget(CInstallApp& app, const std::string& placedPath);
