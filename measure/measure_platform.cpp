#include "measure/measure_platform.h"

#include "measure/dependent_chain.h"
#include "processor/processor_instructions.h"

MeasurePlatform::MeasurePlatform()
    : ReadTimeStamp(::ReadTimeStamp),
      ReadSerialisedTimeStamp(::ReadSerialisedTimeStamp),
      MaskInterrupts(::MaskInterrupts),
      UnmaskInterrupts(::UnmaskInterrupts),
      RunShortChain(::RunShortChain),
      RunLongChain(::RunLongChain)
{
}

MeasurePlatform& measurePlatform()
{
    static MeasurePlatform platform;
    return platform;
}
