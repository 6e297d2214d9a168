#include "control/pages/page_factory.h"

#include "control/pages/pages.h"

namespace pm32::control::pages {
namespace {

template <class Page>
std::unique_ptr<PropertyPage> make(QWidget* parent) {
    return std::make_unique<Page>(parent);
}

struct Maker {
    std::string_view className;
    std::unique_ptr<PropertyPage> (*make)(QWidget* parent);
};

constexpr Maker kMakers[] = {
    {"ZGenPPG", make<GeneralPage>},    {"ZIoPPG", make<PicturePage>},
    {"ZLoadPPG", make<LoadPage>},      {"ZWritePPG", make<WritePage>},
    {"ZSelPPG", make<SelectPage>},     {"ZViewPPG", make<ViewPage>},
    {"ZGdiPPG", make<DrawingPage>},    {"ZTextPPG", make<TextPage>},
    {"StockFontPage", make<FontPage>}, {"StockColorPage", make<ColorPage>},
};

}  // namespace

std::unique_ptr<PropertyPage> CreatePropertyPage(std::string_view name, QWidget* parent) {
    const PageClass* pageClass = FindPageClass(name);
    if (pageClass == nullptr) return nullptr;
    for (const Maker& maker : kMakers)
        if (maker.className == pageClass->className) return maker.make(parent);
    return nullptr;
}

std::vector<std::unique_ptr<PropertyPage>> CreateControlPages() {
    std::vector<std::unique_ptr<PropertyPage>> pages;
    for (const PageClass& pageClass : ControlPages())
        if (std::unique_ptr<PropertyPage> page = CreatePropertyPage(pageClass.progId))
            pages.push_back(std::move(page));
    return pages;
}

}  // namespace pm32::control::pages
