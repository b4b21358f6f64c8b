#include "ui.h"

#include "core/text/fields.h"

namespace marelos {

void Ui::ShowSysMsg(std::string_view text) {
    AppendMessageLine(WithoutControlCharacters(text));
}

}  // namespace marelos
