#include "link/link_platform.h"

LinkPlatform& linkPlatform()
{
    static LinkPlatform platform;
    return platform;
}
