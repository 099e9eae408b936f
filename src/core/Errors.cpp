#include "core/Errors.h"

#include "core/Text.h"

namespace tarnwick {

EGeneralError::EGeneralError(std::u16string message)
    : FMessage(std::move(message)), FUtf8(ToUtf8(FMessage)) {}

EAssertionFailed::EAssertionFailed(std::u16string message, std::u16string unitName, int line)
    : EGeneralError(std::move(message)), FUnitName(std::move(unitName)), FLine(line) {}

} // namespace tarnwick
