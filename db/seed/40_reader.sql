-- Messages and system parameters of the reader windows and fine settlement.

insert into msg_mst (msg_id, msg_content) values
    ('WLT285', '确定要对选中的超期罚款记录进行免罚处理吗？'),
    ('ELT119', '没有适用于该读者类型、流通类型和馆藏地点的流通规则！')
on conflict do nothing;

-- 9: rounding of fines and of the amount proposed at settlement:
--    0 or 1 cut to tenths, 2 half up to tenths.
insert into sys_comm_para (sys_para_code, sys_para_value, sys_para_name) values
    (9, '0', '罚款金额取舍方式')
on conflict do nothing;
