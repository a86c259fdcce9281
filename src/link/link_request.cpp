#include "link/link_request.h"

#include "link/register_map.h"

namespace {

constexpr int kBlockCountUnit = 256;  // block k is asked for with k in the count's high byte

} // namespace

LinkRequest LinkRequest::read(uint16_t reg, uint16_t count)
{
    LinkRequest r;
    r.form = Form::Read;
    r.reg = reg;
    r.count = count;
    return r;
}

LinkRequest LinkRequest::floatWrite(uint16_t reg, float value)
{
    LinkRequest r;
    r.form = Form::FloatWrite;
    r.reg = reg;
    r.value = value;
    return r;
}

LinkRequest LinkRequest::requestBufferFloat(uint16_t reg, float value)
{
    LinkRequest r = floatWrite(reg, value);
    r.form = Form::RequestBufferFloat;
    return r;
}

LinkRequest LinkRequest::fourByteWrite(uint16_t reg, const uint8_t data[4])
{
    LinkRequest r;
    r.form = Form::FourByteWrite;
    r.reg = reg;
    r.data = QByteArray(reinterpret_cast<const char*>(data), 4);
    return r;
}

LinkRequest LinkRequest::blockWrite(uint16_t reg, const uint8_t* data, int n)
{
    LinkRequest r;
    r.form = Form::BlockWrite;
    r.reg = reg;
    r.data = QByteArray(reinterpret_cast<const char*>(data), n);
    return r;
}

int StartingBlockOf(const LinkRequest& request)
{
    if (request.form != LinkRequest::Form::Read || request.reg != Reg::Starting) return 0;
    const int block = request.count / kBlockCountUnit;
    return request.count % kBlockCountUnit == 0 && block >= 1 ? block : 0;
}

ReplyForm ReplyFormFor(const LinkRequest& request)
{
    if (request.form != LinkRequest::Form::Read) return ReplyForm::WriteAck;
    switch (request.reg) {
    case Reg::Measurement: return ReplyForm::Measurement;
    case Reg::Starting: return StartingBlockOf(request) > 0 ? ReplyForm::StartingBlock : ReplyForm::TriggerAck;
    case Reg::ClosingNotice: return ReplyForm::Nothing;
    default: return ReplyForm::Register;
    }
}
