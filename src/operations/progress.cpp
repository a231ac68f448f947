#include "operations/progress.h"

#include "core/context.h"
#include "core/operation_view.h"

namespace merlinox::inline operations {

namespace {

constexpr std::uint32_t kProgressSteps = 50;

}  // namespace

void InitProgress(Context& ctx, std::uint32_t total) {
    OperationState& op = ctx.operation;
    if (total > kProgressSteps) {
        if (op.view != nullptr) op.view->SetProgressRange(kProgressSteps);
        op.progressDivisor = total / kProgressSteps;
    } else {
        if (op.view != nullptr) op.view->SetProgressRange(total);
        op.progressDivisor = 1;
    }
    op.progressCounter = 0;
    op.progressPosition = 0;
}

void StepProgress(Context& ctx) {
    OperationState& op = ctx.operation;
    op.progressCounter += 1;
    if (op.progressCounter >= op.progressDivisor) {
        PumpMessages(ctx);
        op.progressPosition += 1;
        if (op.view != nullptr) op.view->SetProgressPosition(op.progressPosition);
        op.progressCounter = 0;
    }
}

void PumpMessages(Context& ctx) { ctx.ui->PumpMessages(); }

void SetStatusLine(Context& ctx, std::string_view text) {
    if (ctx.operation.view != nullptr) ctx.operation.view->SetStatusText(text);
}

void RepaintWindow(Context& ctx) {
    if (ctx.operation.view != nullptr) ctx.operation.view->Repaint();
}

void SetProgressPosition(Context& ctx, std::uint32_t position) {
    if (ctx.operation.view != nullptr) ctx.operation.view->SetProgressPosition(position);
}

void EnableCancelButton(Context& ctx, bool enable) {
    if (ctx.operation.view != nullptr) ctx.operation.view->EnableCancelButton(enable);
}

void RequestCancel(Context& ctx) { ctx.operation.cancelRequested = 1; }

// A board that stopped answering ends the pass like the Cancel button: the transfers
// would all fail anyway, and the timeout message has said why.
bool CancelRequested(const Context& ctx) {
    return ctx.operation.cancelRequested != 0 || ctx.link.boardLost;
}

}  // namespace merlinox::inline operations
