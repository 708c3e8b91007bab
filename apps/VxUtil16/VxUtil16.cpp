#include "main/common/ProductInfo.h"
#include "platform/sys/FileVersionNote.h"
#include "utility/start/UtilBody.h"

VX_FILE_VERSION(ProductVersionMajor, ProductVersionMinor, ProductVersionRelease, ProductVersionBuild);

int main(int argc, char* argv[])
{
    return Utility::RunVxUtil16(argc, argv);
}
