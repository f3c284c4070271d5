#include "measure/measure_platform.h"

#include "measure/processor_instructions.h"

MeasurePlatform::MeasurePlatform()
    : ReadTimeStamp(::ReadTimeStamp),
      ReadSerialisedTimeStamp(::ReadSerialisedTimeStamp),
      MaskInterrupts(::MaskInterrupts),
      UnmaskInterrupts(::UnmaskInterrupts)
{
}

MeasurePlatform& measurePlatform()
{
    static MeasurePlatform platform;
    return platform;
}
