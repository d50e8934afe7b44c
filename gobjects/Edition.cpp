#include "gobjects/Edition.h"

OEM_PRODUCT g_OEMProduct = 0;

void SetOEMProduct(OEM_PRODUCT product)
{
    g_OEMProduct = product;
}
