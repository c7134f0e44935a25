#include "profile/profile_model.h"

bool CGroupFile::endOfVolume()
{
    return moveToNextVolume([this](const std::string&, const std::string& name) {
        if (!host)
            return std::string();
        return host->NextVolume(name, ++currentDisk);
    });
}

void CGroupFile::blockDone()
{
    if (host)
        host->ProgressTick();
}
