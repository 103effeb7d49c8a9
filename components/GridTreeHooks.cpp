#include "components/GridTreeHooks.h"

#include "components/BaseGridTree.h"

TGridTreeHooks::~TGridTreeHooks()
{
    if (FAttachedTree)
        FAttachedTree->DetachView();
}
