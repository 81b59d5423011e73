#include "settings/ProductInfo.h"

#include "base/TextFileReader.h"

namespace lumora {

void ReadProductInfo(const std::string& content, ProductInfo& info)
{
    TextFileReader in(content);
    for (const ProductField& field : kProductFields)
        info.*field.value = in.ReadLine();
}


}  // namespace lumora
