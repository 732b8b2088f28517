#include "platform/tirsk/exceptionhandler.h"

#include "core/windows/crashreport.h"
#include "core/windows/process.h"

EXCEPTION_HANDLER excp;

void EXCEPTION_HANDLER::installdefaulttrap()
{
    installfatalhandlers();
}

void EXCEPTION_HANDLER::setsilent(int flag)
{
    crashreport.quiet = flag ? 1 : 0;
}

int EXCEPTION_HANDLER::issilent() const
{
    return crashreport.quiet;
}
