#include "editors/product_record.h"

#include "app/install_app.h"

void ReadProductRecord(CInstallApp& app)
{
    // The record's values are not read yet; a run starts as a first one.
    app.previousInstall = false;
}
