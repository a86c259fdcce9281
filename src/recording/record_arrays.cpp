#include "recording/record_arrays.h"

RecordSeries::RecordSeries()
{
    // Value-initialised: every slot starts at 0.
    for (auto& values : values_) values.reset(new float[kRecordCapacity]());
    times_.reset(new double[kRecordCapacity]());
}
