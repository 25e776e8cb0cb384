#pragma once
// Controller simulator core.
