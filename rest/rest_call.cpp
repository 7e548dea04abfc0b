#include "rest/rest_call.h"

#include <cstdarg>
#include <cstdio>

#include "accountlogic/login_manager.h"
#include "accountlogic/user_manager.h"
#include "vkl/log.h"

namespace Kestrel {
namespace {

constexpr int kHttpOk = 200;
constexpr int kServerSuccess = 1000;

}  // namespace

std::unique_ptr<Datahub::CHeadParamList> MakeRestHeaders(AccountLogic::CLoginManagerExternal* loginManager,
                                                         const std::string& menuKey) {
    std::string menuCode = menuKey;
    std::string menuName;
    if (loginManager) loginManager->GetMenuName(menuCode, menuName);
    auto headers = std::make_unique<Datahub::CHeadParamList>();
    headers->SetParam("X-Operate-Code", menuCode);
    headers->SetParam("X-Operate-Name", menuName);
    headers->SetParam("X-Api-Version", "2.0");
    return headers;
}

std::unique_ptr<Datahub::CHeadParamList> MakeRestHeaders(AccountLogic::CUserManagerExternal* userManager,
                                                         const std::string& menuKey) {
    return MakeRestHeaders(userManager ? userManager->GetLoginManager() : nullptr, menuKey);
}

int JudgeRestAnswer(const RestCallSite& site, const Datahub::PSDKResponse& response) {
    if (response.http_code == kHttpOk && response.api_code == kServerSuccess) return 0;
    const int result = response.api_code != kServerSuccess ? response.api_code : response.http_code;
    LogRestFailure(site, "DataPassThroughJson failed, error = %d [http_code = %d, api_code = %d, api_message = %s].",
                   result, response.http_code, response.api_code, RestText(response.api_message).c_str());
    return result;
}

void LogRestFailure(const RestCallSite& site, const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    vkl::DPrintLog::instance()->Log(site.source, site.line, site.function, "", vkl::LOG_LEVEL_ERROR, "%s", text);
}

}  // namespace Kestrel
