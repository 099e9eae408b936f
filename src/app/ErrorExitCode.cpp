#include "app/ErrorExitCode.h"

#include "command/ExitCode.h"
#include "core/Errors.h"
#include "core/PlatformConstants.h"
#include "instance/HandOver.h"
#include "netcore/NetAdapterWalk.h"

namespace tarnwick {

int ExitCodeOf(std::exception_ptr Error) noexcept {
    try {
        std::rethrow_exception(Error);
    } catch (const EInstanceUnreachable&) {
        return ecInstanceUnreachable;
    } catch (const EAdapterListFailed&) {
        return ecAdapterListFailed;
    } catch (const EOSError& error) {
        return error.ErrorCode() == ERROR_CANCELLED ? ecElevationDeclined : ecAdapterFailed;
    } catch (...) {
        return ecAdapterFailed;
    }
}

} // namespace tarnwick
